#include "json_auto_ptr.h"

JsonAutoPtr& JsonAutoPtr::operator=(JsonAutoPtr&& other) noexcept {
    if (this != &other) {
        free();
        m_value = other.release();
    }
    return *this;
}

json_t* JsonAutoPtr::release() noexcept {
    json_t* value = m_value;
    m_value = nullptr;
    return value;
}

void JsonAutoPtr::free() noexcept {
    json_decref(m_value);
    m_value = nullptr;
}
