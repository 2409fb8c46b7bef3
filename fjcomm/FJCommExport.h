#pragma once

// Marks what the port library exports; everything else stays hidden.
#define FJCOMM_API __attribute__((visibility("default")))
