#pragma once

// Marks what the protocol library exports; everything else stays hidden.
#define FJPARSE_API __attribute__((visibility("default")))
