// A small test harness: cases register themselves, CHECK records a failure and goes on,
// REQUIRE stops the case. The same sources run on Linux and, under Wine, on Windows.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace check {

struct Case {
    const char* name;
    void (*body)();
};

inline std::vector<Case>& registry() {
    static std::vector<Case> cases;
    return cases;
}

struct Registrar {
    Registrar(const char* name, void (*body)()) { registry().push_back({name, body}); }
};

struct Abort {};

inline int& failures() {
    static int count = 0;
    return count;
}

inline void fail(const char* file, int line, const std::string& what) {
    ++failures();
    std::fprintf(stderr, "%s:%d: failed: %s\n", file, line, what.c_str());
}

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

inline int runAll(const char* filter) {
    int ran = 0;
    int failedCases = 0;
    for (const Case& c : registry()) {
        if (filter != nullptr && std::strstr(c.name, filter) == nullptr) continue;
        ++ran;
        const int before = failures();
        try {
            c.body();
        } catch (const Abort&) {
        } catch (const std::exception& e) {
            fail(c.name, 0, std::string("unexpected exception: ") + e.what());
        } catch (...) {
            fail(c.name, 0, "unexpected exception");
        }
        if (failures() != before) {
            ++failedCases;
            std::fprintf(stderr, "FAILED: %s\n", c.name);
        }
    }
    std::printf("%d passed, %d failed\n", ran - failedCases, failedCases);
    return failedCases == 0 && ran > 0 ? 0 : 1;
}

}  // namespace check

#define CHECK_CONCAT2(a, b) a##b
#define CHECK_CONCAT(a, b) CHECK_CONCAT2(a, b)

// TEST_CASE("name") { ... }
#define TEST_CASE(name)                                                                     \
    static void CHECK_CONCAT(checkCase_, __LINE__)();                                       \
    static const ::check::Registrar CHECK_CONCAT(checkReg_, __LINE__)(name, &CHECK_CONCAT(checkCase_, __LINE__)); \
    static void CHECK_CONCAT(checkCase_, __LINE__)()

#define CHECK(cond)                                                          \
    do {                                                                     \
        if (!(cond)) ::check::fail(__FILE__, __LINE__, #cond);               \
    } while (0)

#define REQUIRE(cond)                                                        \
    do {                                                                     \
        if (!(cond)) {                                                       \
            ::check::fail(__FILE__, __LINE__, #cond);                        \
            throw ::check::Abort{};                                          \
        }                                                                    \
    } while (0)

#define CHECK_EQ(a, b)                                                                        \
    do {                                                                                      \
        const auto& checkA_ = (a);                                                            \
        const auto& checkB_ = (b);                                                            \
        if (!::check::equal(checkA_, checkB_))                                                \
            ::check::fail(__FILE__, __LINE__,                                                 \
                          std::string(#a " == " #b ": ") + ::check::show(checkA_) + " vs " +  \
                              ::check::show(checkB_));                                        \
    } while (0)

#define REQUIRE_EQ(a, b)                                                                      \
    do {                                                                                      \
        const int checkBefore_ = ::check::failures();                                         \
        CHECK_EQ(a, b);                                                                       \
        if (::check::failures() != checkBefore_) throw ::check::Abort{};                      \
    } while (0)

// CHECK_THROWS_MESSAGE(expr, ExceptionType, "exact what() text")
#define CHECK_THROWS_MESSAGE(expr, type, message)                                             \
    do {                                                                                      \
        bool checkThrown_ = false;                                                            \
        try {                                                                                 \
            expr;                                                                             \
        } catch (const type& e) {                                                             \
            checkThrown_ = true;                                                              \
            if (std::string(e.what()) != (message))                                           \
                ::check::fail(__FILE__, __LINE__, std::string("message of " #expr ": ") + e.what()); \
        }                                                                                     \
        if (!checkThrown_) ::check::fail(__FILE__, __LINE__, #expr " did not throw " #type); \
    } while (0)

// Defines main(); put it in exactly one source file of each test executable.
#define CHECK_MAIN                                                                            \
    int main(int argc, char** argv) { return ::check::runAll(argc > 1 ? argv[1] : nullptr); }
