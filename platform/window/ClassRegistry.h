// A small class registry in place of the object runtime: a module registers
// its classes by name when it is loaded, and a host finds a class by name,
// either anywhere in the process or in one loaded module (the image, a shared
// object's path). A class is a factory of new objects.
//
// Modules do not link this library: they use the host's copy, so there is one
// registry per process (see cmake/ComponentBundle.cmake).
//
// Threads: any thread; the registry has its own lock.
#pragma once

class NSObject;

struct objc_class;
typedef const objc_class* Class;

// Makes a new object holding one reference for the caller.
typedef NSObject* (*ClassFactory)();

// Registers a class of the image holding the factory. False when that image
// already has a class of this name.
bool RegisterClass(const char* name, ClassFactory factory);
// Forgets a class of the image holding the factory (a module being unloaded).
void UnregisterClass(const char* name, ClassFactory factory);

// The first class of that name, or null.
Class NSClassFromString(const char* name);
// The class of that name registered by the image at imagePath, or null.
Class ClassNamedInImage(const char* imagePath, const char* name);

const char* class_getName(Class cls);
// The image's path as the dynamic linker reported it.
const char* class_getImageName(Class cls);
// A new object of the class (one reference for the caller); null for null.
NSObject* class_createInstance(Class cls);

// Registers a class for as long as this object lives: a static object of a
// module registers when the module loads and unregisters when it unloads.
class ClassRegistration
{
public:
  ClassRegistration(const char* name, ClassFactory factory) : mName(name), mFactory(factory)
  {
    RegisterClass(name, factory);
  }
  ~ClassRegistration() { UnregisterClass(mName, mFactory); }
  ClassRegistration(const ClassRegistration&) = delete;
  ClassRegistration& operator=(const ClassRegistration&) = delete;

private:
  const char* mName;
  ClassFactory mFactory;
};
