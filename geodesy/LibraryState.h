// The library-wide project state and the library's standard messages.
//
// SetGlobalVal stores the program's configuration pointer (not owned; the program's object
// lives for the whole run), the current project directory (a native path) and the current
// project name (GBK). The conversion engine, the vector reduction and the baseline importers
// read them through the getters below.
#pragma once

#include <cstddef>
#include <string>

class CGPSConfiguration;

void SetGlobalVal(CGPSConfiguration* configuration, const std::string& directory, const std::string& name);

// The configuration given to SetGlobalVal; nullptr before the first call.
CGPSConfiguration* GlobalConfiguration();
const std::string& GlobalProjectDir();
const std::string& GlobalProjectName();

// The application title, caption of the library's message boxes (GBK).
const char* ApplicationTitle();

// Warning "打开文件'%s'出错!" with the file name (a native path; shown in GBK).
void OpenFileError(std::string fileName);
// Warning "内存不足,请关闭一些应用程序后再试!".
void OutOfMemory();
// The memory the system can give without swapping (MemAvailable), bytes; 0 when it cannot tell.
size_t AvailableMemory();
// Dispatches one pending user-interface event of the host, never waits.
void GetWindowMessage();
