// Root of the model classes: a run-time class name and a virtual destructor.
#pragma once

class CSvObject {
 public:
  virtual ~CSvObject() = default;
  virtual const char* GetRuntimeClassName() const { return "CSvObject"; }
};

// Declares the run-time class name of a class derived from CSvObject.
#define SV_DECLARE_RUNTIME_CLASS(name) \
  const char* GetRuntimeClassName() const override { return #name; }
