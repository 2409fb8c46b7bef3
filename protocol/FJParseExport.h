#pragma once

// Marks what the protocol library exports; everything else stays hidden.
#define FJPARSE_API __attribute__((visibility("default")))

// Marks a member of an exported class that stays inside the library (and its
// unit tests).
#define FJPARSE_LOCAL __attribute__((visibility("hidden")))
