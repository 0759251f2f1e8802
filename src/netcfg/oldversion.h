// The network registrations an older version left with the network control
// panel.
#pragma once

#include <string>

// True while either registration key of the older version exists.
bool SvIsNetRegistrationPresent();
// Removes both registrations (wait cursor shown).
void SvRemoveNetRegistrations();
// Removes the component `option` when the key records the INF that the
// library reports for it.
void SvRemoveNetRegistration(const std::string& key, const std::string& option);
