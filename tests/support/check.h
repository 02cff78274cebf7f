// The old test macros mapped onto GoogleTest while the tests move to its own assertions.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace check {

struct Abort {};

template <typename T>
std::string show(const T& value) {
    std::ostringstream out;
    if constexpr (std::is_same_v<T, std::nullptr_t>) {
        out << "null";
    } else if constexpr (std::is_pointer_v<T> && !std::is_same_v<std::decay_t<T>, const char*> &&
                         !std::is_same_v<std::decay_t<T>, char*>) {
        out << static_cast<const void*>(value);
    } else if constexpr (std::is_same_v<std::decay_t<T>, const char*> || std::is_same_v<std::decay_t<T>, char*>) {
        if (value == nullptr) {
            out << "null";
        } else {
            out << '"' << value << '"';
        }
    } else if constexpr (std::is_same_v<T, std::string>) {
        out << '"' << value << '"';
    } else if constexpr (std::is_same_v<T, uint8_t> || std::is_same_v<T, int8_t>) {
        out << static_cast<int>(value);
    } else if constexpr (std::is_floating_point_v<T>) {
        out.precision(17);
        out << value;
    } else {
        out << value;
    }
    return out.str();
}

template <typename A, typename B>
bool equal(const A& a, const B& b) {
    if constexpr ((std::is_same_v<std::decay_t<A>, const char*> || std::is_same_v<std::decay_t<A>, char*>) &&
                  (std::is_same_v<std::decay_t<B>, const char*> || std::is_same_v<std::decay_t<B>, char*>)) {
        if (a == nullptr || b == nullptr) return a == b;
        return std::strcmp(a, b) == 0;
    } else if constexpr (std::is_integral_v<A> && std::is_integral_v<B>) {
        if constexpr (std::is_signed_v<A> == std::is_signed_v<B>) {
            return a == b;
        } else if constexpr (std::is_signed_v<A>) {
            return a >= 0 && static_cast<std::make_unsigned_t<A>>(a) == b;
        } else {
            return b >= 0 && a == static_cast<std::make_unsigned_t<B>>(b);
        }
    } else {
        return a == b;
    }
}

}  // namespace check

#define CHECK_CONCAT2(a, b) a##b
#define CHECK_CONCAT(a, b) CHECK_CONCAT2(a, b)

// Transitional: the old case macros on GoogleTest, until every file is written in its terms.
#define TEST_CASE(name) TEST(CHECK_CONCAT(Case_, __LINE__), Run)

#define CHECK(cond)          \
    do {                     \
        EXPECT_TRUE(cond);   \
    } while (0)

#define REQUIRE(cond)                                                        \
    do {                                                                     \
        if (!(cond)) {                                                       \
            ADD_FAILURE() << #cond;                                          \
            throw ::check::Abort{};                                          \
        }                                                                    \
    } while (0)

#define CHECK_EQ(a, b)                                                                        \
    do {                                                                                      \
        const auto& checkA_ = (a);                                                            \
        const auto& checkB_ = (b);                                                            \
        EXPECT_TRUE(::check::equal(checkA_, checkB_))                                         \
            << #a " == " #b ": " << ::check::show(checkA_) << " vs " << ::check::show(checkB_); \
    } while (0)

#define REQUIRE_EQ(a, b)                                                                      \
    do {                                                                                      \
        const auto& checkA_ = (a);                                                            \
        const auto& checkB_ = (b);                                                            \
        if (!::check::equal(checkA_, checkB_)) {                                              \
            ADD_FAILURE() << #a " == " #b ": " << ::check::show(checkA_) << " vs "            \
                          << ::check::show(checkB_);                                          \
            throw ::check::Abort{};                                                           \
        }                                                                                     \
    } while (0)

#define CHECK_THROWS_MESSAGE(expr, type, message)                                             \
    do {                                                                                      \
        bool checkThrown_ = false;                                                            \
        try {                                                                                 \
            expr;                                                                             \
        } catch (const type& e) {                                                             \
            checkThrown_ = true;                                                              \
            EXPECT_EQ(std::string(e.what()), std::string(message)) << #expr;                  \
        }                                                                                     \
        EXPECT_TRUE(checkThrown_) << #expr " did not throw " #type;                           \
    } while (0)

#define CHECK_MAIN
