#pragma once

// Under AddressSanitizer operator new aborts instead of throwing
// std::bad_alloc, and nothing starts under a small RLIMIT_AS.
#if defined(__SANITIZE_ADDRESS__)
#define LUMO_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMO_TEST_ASAN 1
#endif
#endif

namespace lumo_test {
#ifdef LUMO_TEST_ASAN
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
}  // namespace lumo_test
