#pragma once

#define PLATFORM_API __attribute__((visibility("default")))
