#pragma once

#include <cstddef>
#include <string>

// Text from the system's cryptographic random generator (BCryptGenRandom): count characters, each
// drawn evenly from [A-Za-z0-9]. Raises ResourceException when the generator fails.
std::wstring randomAlphanumeric(std::size_t count);
