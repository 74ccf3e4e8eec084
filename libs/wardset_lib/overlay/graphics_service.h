#pragma once

#include <string>

// Calls a method of the graphics service ("OpenCameraDevice",
// "GetCommandChannel") that answers with a descriptor, and returns it;
// throws std::runtime_error (errorMessage first) when that fails.
int requestGraphicsDescriptor(const char* method, const std::string& errorMessage);
