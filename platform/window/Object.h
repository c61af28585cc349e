// The root of the window system's objects: reference counted as the object
// runtime counts them. A new object holds one reference for its creator;
// release() deletes it when the last reference goes.
//
// Threads: the window system's objects belong to the main thread.
#pragma once

#include <string>

class NSObject
{
public:
  NSObject() = default;
  NSObject(const NSObject&) = delete;
  NSObject& operator=(const NSObject&) = delete;

  NSObject* retain()
  {
    ++mRetainCount;
    return this;
  }
  void release()
  {
    if (--mRetainCount == 0) delete this;
  }
  int retainCount() const { return mRetainCount; }

  virtual std::string description() const { return "NSObject"; }
  // Protocols are named; a class answers for the ones it adopts.
  virtual bool conformsToProtocol(const char* name) const
  {
    (void)name;
    return false;
  }

protected:
  virtual ~NSObject() = default;

private:
  int mRetainCount = 1;
};

// Makes the window system's services ready; true once they are.
bool NSApplicationLoad();
