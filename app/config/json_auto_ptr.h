#pragma once

#include <jansson.h>

// The sole owner of one reference to a JSON value. Ownership moves with the
// object; the moved-from object is empty.
class JsonAutoPtr {
  public:
    JsonAutoPtr() = default;
    // Takes over the caller's reference (null allowed).
    explicit JsonAutoPtr(json_t* value) noexcept : m_value(value) {}
    JsonAutoPtr(JsonAutoPtr&& other) noexcept : m_value(other.release()) {}
    JsonAutoPtr& operator=(JsonAutoPtr&& other) noexcept;
    JsonAutoPtr(const JsonAutoPtr&) = delete;
    JsonAutoPtr& operator=(const JsonAutoPtr&) = delete;
    ~JsonAutoPtr() { free(); }

    json_t* get() const noexcept { return m_value; }
    explicit operator bool() const noexcept { return m_value != nullptr; }
    // Gives the reference up without dropping it.
    json_t* release() noexcept;
    // Drops the reference; the object becomes empty.
    void free() noexcept;

  private:
    json_t* m_value = nullptr;
};
