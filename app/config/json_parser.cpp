#include "json_parser.h"

#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <memory>

#include "base/status_exception.h"

json_t* JsonParser::decode(const std::string& text) {
    return json_loads(text.c_str(), 0, nullptr);
}

json_t* JsonParser::getArray(const json_t* object, const char* key) {
    json_t* member = json_object_get(object, key);
    return json_is_array(member) ? member : nullptr;
}

json_t* JsonParser::getObject(const json_t* object, const char* key) {
    json_t* member = json_object_get(object, key);
    return json_is_object(member) ? member : nullptr;
}

bool JsonParser::unpack(const json_t* value, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int result = json_vunpack_ex(const_cast<json_t*>(value), nullptr, 0, format, arguments);
    va_end(arguments);
    return result == 0;
}

bool JsonParser::fitsInt(json_int_t value) {
    return value >= INT_MIN && value <= INT_MAX;
}

int JsonParser::narrowToInt(json_int_t value, const std::string& what) {
    if (!fitsInt(value)) {
        throw StatusException(what + " is out of range", STATUS_INVALID_PARAMETER);
    }
    return static_cast<int>(value);
}

std::string JsonParser::dumpJsonToString(const json_t* value) {
    if (value == nullptr) {
        return "";
    }
    const std::unique_ptr<char, decltype(&std::free)> text(
        json_dumps(value, JSON_COMPACT | JSON_PRESERVE_ORDER), &std::free);
    return text ? text.get() : "";
}
