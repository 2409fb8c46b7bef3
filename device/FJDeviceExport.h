#pragma once

// Marks what the device library exports; everything else stays hidden.
#define FJDEVICE_API __attribute__((visibility("default")))
