#pragma once

#include <algorithm>

#include <cstddef>
#include <deque>
#include <map>
#include <utility>

// A map of bounded size that forgets its oldest keys: values by key, and a
// ring of the keys in the order they were added. When the ring is full, the
// oldest key is evicted before anything else is added.
template <typename K, typename V>
class CircularBuffer {
  public:
    explicit CircularBuffer(std::size_t capacity) : m_capacity(capacity) {}

    // Adds the value under the key; false when the key was present, whose
    // value is then replaced.
    bool insert(const K& key, V value) {
        if (m_keys.size() >= m_capacity && !m_keys.empty()) {
            m_values.erase(m_keys.front());
            m_keys.pop_front();
        }
        const bool added = m_values.insert_or_assign(key, std::move(value)).second;
        if (added) {
            m_keys.push_back(key);
        }
        return added;
    }

    // Forgets the value under the key, if any.
    void erase(const K& key) {
        if (m_values.erase(key) != 0) {
            m_keys.erase(std::find(m_keys.begin(), m_keys.end(), key));
        }
    }

    // The value under the key, or null.
    const V* find(const K& key) const {
        const auto it = m_values.find(key);
        return it == m_values.end() ? nullptr : &it->second;
    }

    std::size_t size() const { return m_values.size(); }

  private:
    std::size_t m_capacity;
    std::map<K, V> m_values;
    std::deque<K> m_keys;
};
