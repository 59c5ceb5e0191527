// The machine-dependent half of jni.h for Windows x64, as a Windows JVM expects
// it: long is 32 bits there, and entry points are exported from the DLL.
#pragma once

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;
