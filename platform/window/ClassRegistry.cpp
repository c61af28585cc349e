#include "platform/window/ClassRegistry.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct objc_class
{
  std::string name;
  std::string image;     // as the dynamic linker names it
  std::string imageReal; // resolved, for comparisons
  ClassFactory factory;
};

namespace
{
struct Registry
{
  std::mutex lock;
  std::vector<std::unique_ptr<objc_class>> classes;
};

Registry& registry()
{
  static Registry* r = new Registry; // outlives every module's static registrations
  return *r;
}

std::string realPath(const char* path)
{
  char buffer[PATH_MAX];
  if (path && realpath(path, buffer)) return buffer;
  return path ? path : "";
}

std::string imageOf(ClassFactory factory)
{
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(factory), &info) && info.dli_fname) return info.dli_fname;
  return "";
}
} // namespace

bool RegisterClass(const char* name, ClassFactory factory)
{
  if (!name || !factory) return false;
  const std::string image = imageOf(factory), imageReal = realPath(image.c_str());
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  for (const auto& c : r.classes)
    if (c->name == name && c->imageReal == imageReal) return false;
  r.classes.push_back(std::unique_ptr<objc_class>(new objc_class{name, image, imageReal, factory}));
  return true;
}

void UnregisterClass(const char* name, ClassFactory factory)
{
  if (!name) return;
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  for (auto it = r.classes.begin(); it != r.classes.end(); ++it)
    if ((*it)->name == name && (*it)->factory == factory)
    {
      r.classes.erase(it);
      return;
    }
}

Class NSClassFromString(const char* name)
{
  if (!name) return nullptr;
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  for (const auto& c : r.classes)
    if (c->name == name) return c.get();
  return nullptr;
}

Class ClassNamedInImage(const char* imagePath, const char* name)
{
  if (!imagePath || !name) return nullptr;
  const std::string wanted = realPath(imagePath);
  Registry& r = registry();
  std::lock_guard<std::mutex> guard(r.lock);
  for (const auto& c : r.classes)
    if (c->name == name && c->imageReal == wanted) return c.get();
  return nullptr;
}

const char* class_getName(Class cls)
{
  return cls ? cls->name.c_str() : nullptr;
}

const char* class_getImageName(Class cls)
{
  return cls ? cls->image.c_str() : nullptr;
}

NSObject* class_createInstance(Class cls)
{
  return cls ? cls->factory() : nullptr;
}
