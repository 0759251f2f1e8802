#include "platform/platform.h"

namespace svp {
namespace {
Platform g_platform;
RunState g_run;
}  // namespace

const Platform& Get() { return g_platform; }
RunState& Run() { return g_run; }

ScopedPlatform::ScopedPlatform(const Platform& platform)
    : previous_(g_platform), previousRun_(g_run) {
  g_platform = platform;
  g_run = RunState();
}

ScopedPlatform::~ScopedPlatform() {
  g_platform = previous_;
  g_run = previousRun_;
}

}  // namespace svp
