#pragma once

#include <string>
#include <utility>
#include <variant>

namespace kovi {

// Broad failure classes; callers turn them into the user-facing text of their own feature.
enum class ErrorCode {
    Io,           // a file or folder operation failed
    NotFound,     // the file or item does not exist
    NotRegular,   // the path is not a regular file
    TooLarge,     // the input passed a size limit
    CorruptData,  // the bytes could not be decoded
    InvalidInput, // the caller's input was refused
    Network,      // the peer could not be reached or the transfer broke
    Http,         // the peer answered with a failing status
    Cancelled,    // the operation was cancelled; callers drop it silently
    Timeout,
};

struct Error {
    ErrorCode code = ErrorCode::Io;
    std::string message; // a readable description, for logs and for "Failed to save …" lines
};

// A value or an error. C++20 has no std::expected; this is the small subset we need.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_data(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : m_data(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(m_data); }
    const T& value() const& { return std::get<0>(m_data); }
    T&& value() && { return std::get<0>(std::move(m_data)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const { return std::get<1>(m_data); }

private:
    std::variant<T, Error> m_data;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)), m_failed(true) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return m_error; }

private:
    Error m_error;
    bool m_failed = false;
};

} // namespace kovi
