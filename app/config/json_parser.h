#pragma once

#include <jansson.h>

#include <string>

// Small helpers over the JSON library.
class JsonParser {
  public:
    JsonParser() = delete;

    // The decoded text (a new reference), or null when it is not JSON.
    static json_t* decode(const std::string& text);
    // The member when it exists and is an array / an object; else null, also
    // for a null object. Borrowed references.
    static json_t* getArray(const json_t* object, const char* key);
    static json_t* getObject(const json_t* object, const char* key);
    static bool isValid(const json_t* value) { return value != nullptr; }
    // Drops one reference; null allowed.
    static void decref(json_t* value) { json_decref(value); }
    // json_unpack of a value it does not change; true on success. The "i"
    // format cuts integers to 32 bits silently: read them with "I" and check
    // them before narrowing.
    static bool unpack(const json_t* value, const char* format, ...);
    // Whether the integer keeps its value as an int.
    static bool fitsInt(json_int_t value);
    // The integer as an int; a StatusException (STATUS_INVALID_PARAMETER,
    // what + " is out of range") when it does not fit.
    static int narrowToInt(json_int_t value, const std::string& what);
    // Compact, in insertion order; the empty text for null or failure.
    static std::string dumpJsonToString(const json_t* value);
};
