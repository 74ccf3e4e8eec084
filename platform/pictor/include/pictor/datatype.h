#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Pictor {

// The type of the data a port carries, named "/prefix/well-known.SIG/NAME":
// SIG lists the fields in order (f float, i int, b bool, s string, a(..) an
// array of the bracketed fields) and NAME tells types of one layout apart. Two
// ports can be connected only when their datatypes are equal.
class Datatype {
  public:
    // Throws std::invalid_argument when the name is not of that form.
    explicit Datatype(std::string name);

    const std::string& name() const { return m_name; }
    // The signature letters ("ffifff", "a(ff)").
    std::string signature() const;

    bool operator==(const Datatype& other) const { return m_name == other.m_name; }
    bool operator!=(const Datatype& other) const { return m_name != other.m_name; }

  private:
    std::string m_name;
};

// The values that travel between blocks, one C++ type per datatype.
struct datatype_bool {
    bool value = false;
};
struct datatype_int32 {
    int32_t value = 0;
};
struct datatype_float {
    float value = 0.0f;
};
// "/prefix/well-known.f/float": same layout as datatype_float, a type of its own.
struct float_value {
    float value = 0.0f;
};
struct datatype_string {
    std::string value;
};
// Frame identifier 0 to 3.
struct workpackage_id {
    int32_t value = 0;
};
struct datatype_gof {
    float gain = 0.0f;
    int32_t offset = 0;
};
struct sensor_bias_properties {
    float first = 0.0f;
    float second = 0.0f;
};
struct histogram_cut {
    float low = 0.0f;
    float high = 0.0f;
};
struct sensor_exposure {
    float exposure_time = 0.0f;
    float gain = 0.0f;
};
struct sensor_exposure_array {
    std::vector<sensor_exposure> exposures;
};
struct capture_mode_properties {
    int32_t mode = 0;
    int32_t value = 0;
};
struct image_hist_properties {
    int32_t control = 0;
    int32_t value = 0;
};
struct ee_read {
    int32_t address = 0;
    int32_t length = 0;
};
struct histogram_data {
    int32_t low = 0;
    int32_t high = 0;
    int32_t centre = 0;
    bool flag = false;
};
struct sensor_raw_properties {
    float gain = 0.0f;
    float offset = 0.0f;
    int32_t max_value = 0;
    float noise_read = 0.0f;
    float noise_shot = 0.0f;
    float noise_fixed_pattern = 0.0f;
};
// Sensor register writes handed to a sensor block, and the writes it reports
// back a frame or two later.
struct sensor_register {
    int32_t address = 0;
    int32_t value = 0;
};
struct sensor_register_array {
    std::vector<sensor_register> registers;
};
// The payload of an event port: nothing but the wake-up itself.
struct event {};

// The datatype name of each value type. A port of value type T carries
// DatatypeOf<T>::name.
template <typename T>
struct DatatypeOf;

template <>
struct DatatypeOf<datatype_bool> {
    static constexpr const char* name = "/prefix/well-known.b/datatype_bool";
};
template <>
struct DatatypeOf<datatype_int32> {
    static constexpr const char* name = "/prefix/well-known.i/datatype_int32";
};
template <>
struct DatatypeOf<datatype_float> {
    static constexpr const char* name = "/prefix/well-known.f/datatype_float";
};
template <>
struct DatatypeOf<float_value> {
    static constexpr const char* name = "/prefix/well-known.f/float";
};
template <>
struct DatatypeOf<datatype_string> {
    static constexpr const char* name = "/prefix/well-known.s/datatype_string";
};
template <>
struct DatatypeOf<workpackage_id> {
    static constexpr const char* name = "/prefix/well-known.i/workpackage_id";
};
template <>
struct DatatypeOf<datatype_gof> {
    static constexpr const char* name = "/prefix/well-known.fi/datatype_gof";
};
template <>
struct DatatypeOf<sensor_bias_properties> {
    static constexpr const char* name = "/prefix/well-known.ff/sensor_bias_properties";
};
template <>
struct DatatypeOf<histogram_cut> {
    static constexpr const char* name = "/prefix/well-known.ff/histogram_cut";
};
template <>
struct DatatypeOf<sensor_exposure> {
    static constexpr const char* name = "/prefix/well-known.ff/sensor_exposure";
};
template <>
struct DatatypeOf<sensor_exposure_array> {
    static constexpr const char* name = "/prefix/well-known.a(ff)/sensor_exposure_array";
};
template <>
struct DatatypeOf<capture_mode_properties> {
    static constexpr const char* name = "/prefix/well-known.ii/capture_mode_properties";
};
template <>
struct DatatypeOf<image_hist_properties> {
    static constexpr const char* name = "/prefix/well-known.ii/image_hist_properties";
};
template <>
struct DatatypeOf<ee_read> {
    static constexpr const char* name = "/prefix/well-known.ii/ee_read";
};
template <>
struct DatatypeOf<histogram_data> {
    static constexpr const char* name = "/prefix/well-known.iiib/histogram_data";
};
template <>
struct DatatypeOf<sensor_raw_properties> {
    static constexpr const char* name = "/prefix/well-known.ffifff/sensor_raw_properties";
};
template <>
struct DatatypeOf<sensor_register_array> {
    static constexpr const char* name = "/prefix/well-known.a(ii)/sensor_register_array";
};
template <>
struct DatatypeOf<event> {
    static constexpr const char* name = "/prefix/well-known./event";
};

template <typename T>
Datatype datatype_of() {
    return Datatype(DatatypeOf<T>::name);
}

}  // namespace Pictor
