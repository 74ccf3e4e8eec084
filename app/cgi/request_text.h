#pragma once

#include <string>

// Texts of API requests as they arrive.
namespace requestText {

// The request with anything after its JSON object cut off: a text that does
// not decode but starts with an object that does is cut just after that
// object's closing brace. Any other text is returned unchanged. Linear in the
// length of the text.
std::string repair(const std::string& request);

// The request as it goes into the log: at most a few hundred bytes, marked
// when shortened.
std::string forLog(const char* request);

}  // namespace requestText
