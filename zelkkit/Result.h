#pragma once

#include "ZelkCLIError.h"

#include <utility>
#include <version>

#if defined(__cpp_lib_expected)
#include <expected>
#else
#include <variant>
#endif

namespace ZelkKit {

// The value-or-error of every bridge operation. A class of our own rather than
// std::expected directly: QCoro::Task<std::expected<...>> does not compile with
// GCC 12 (expected's unconstrained operator== recurses through QCoro's
// awaitable concept). Where the library has no std::expected (clang 14 with
// libstdc++ 12, used only for the fuzz build) a variant stands in.
template<typename T>
class Result
{
public:
    Result(T value) : m_storage(std::move(value)) {}
#if defined(__cpp_lib_expected)
    Result(ZelkCLIError error) : m_storage(std::unexpected(std::move(error))) {}
    bool hasValue() const { return m_storage.has_value(); }
    const T &value() const & { return *m_storage; }
    T &value() & { return *m_storage; }
    T &&value() && { return std::move(*m_storage); }
    const ZelkCLIError &error() const { return m_storage.error(); }
#else
    Result(ZelkCLIError error) : m_storage(std::move(error)) {}
    bool hasValue() const { return m_storage.index() == 0; }
    const T &value() const & { return std::get<0>(m_storage); }
    T &value() & { return std::get<0>(m_storage); }
    T &&value() && { return std::get<0>(std::move(m_storage)); }
    const ZelkCLIError &error() const { return std::get<1>(m_storage); }
#endif
    explicit operator bool() const { return hasValue(); }
    const T *operator->() const { return &value(); }
    const T &operator*() const & { return value(); }

private:
#if defined(__cpp_lib_expected)
    std::expected<T, ZelkCLIError> m_storage;
#else
    std::variant<T, ZelkCLIError> m_storage;
#endif
};

// For operations that yield nothing but may fail.
struct Done {
    friend bool operator==(Done, Done) = default;
};

} // namespace ZelkKit
