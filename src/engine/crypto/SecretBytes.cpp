// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/crypto/SecretBytes.h"

#include <sodium.h>
#include <sys/prctl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "engine/crypto/SodiumReady.h"

namespace velquist {

namespace {

// While a secret is held, no core dump and no unprivileged debugger may see the process.
std::atomic<int> heldSecrets{0};

void Hold() {
    if (heldSecrets.fetch_add(1) == 0) ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

void LetGo() {
    if (heldSecrets.fetch_sub(1) == 1) ::prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
}

}  // namespace

SecretBytes::SecretBytes(std::size_t capacity) {
    if (capacity == 0) return;
    EnsureSodiumReady();
    // Guard pages on both sides, locked where the limits allow it, never in a core dump.
    data_ = static_cast<std::uint8_t*>(sodium_malloc(capacity));
    if (!data_) throw std::bad_alloc();
    sodium_memzero(data_, capacity);
    capacity_ = capacity;
    Hold();
}

SecretBytes SecretBytes::Of(std::span<const std::uint8_t> bytes) {
    SecretBytes secret(bytes.size());
    if (!bytes.empty()) std::memcpy(secret.data_, bytes.data(), bytes.size());
    secret.size_ = bytes.size();
    return secret;
}

SecretBytes SecretBytes::Of(std::string_view text) {
    return Of(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

SecretBytes SecretBytes::TakeFrom(std::string& text) {
    SecretBytes secret = Of(text);
    sodium_memzero(text.data(), text.size());
    text.clear();
    return secret;
}

SecretBytes::~SecretBytes() { Release(); }

void SecretBytes::Release() noexcept {
    if (!data_) return;
    sodium_free(data_);  // zeroes the memory first
    data_ = nullptr;
    size_ = capacity_ = 0;
    LetGo();
}

SecretBytes::SecretBytes(const SecretBytes& other) : SecretBytes(other.capacity_) {
    if (other.size_ > 0) std::memcpy(data_, other.data_, other.size_);
    size_ = other.size_;
}

SecretBytes& SecretBytes::operator=(const SecretBytes& other) {
    if (this != &other) *this = SecretBytes(other);
    return *this;
}

SecretBytes::SecretBytes(SecretBytes&& other) noexcept
    : data_(other.data_), size_(other.size_), capacity_(other.capacity_) {
    other.data_ = nullptr;
    other.size_ = other.capacity_ = 0;
}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept {
    if (this == &other) return *this;
    Release();
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    return *this;
}

bool SecretBytes::Push(std::uint8_t byte) {
    if (size_ == capacity_) return false;
    data_[size_++] = byte;
    return true;
}

void SecretBytes::Resize(std::size_t size) {
    size = std::min(size, capacity_);
    if (size < size_) sodium_memzero(data_ + size, size_ - size);
    size_ = size;
}

SecretBytes SecretBytes::First(std::size_t count) const {
    return Of(bytes().first(std::min(count, size_)));
}

bool SecretBytes::Equals(std::span<const std::uint8_t> other) const {
    if (other.size() != size_) return false;
    return size_ == 0 || sodium_memcmp(data_, other.data(), size_) == 0;
}

bool SecretBytes::operator==(const SecretBytes& other) const { return Equals(other.bytes()); }

}  // namespace velquist
