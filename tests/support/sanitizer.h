#pragma once

namespace lumo_test {

// Under AddressSanitizer operator new aborts instead of throwing
// std::bad_alloc, and nothing starts under a small RLIMIT_AS.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif

}  // namespace lumo_test
