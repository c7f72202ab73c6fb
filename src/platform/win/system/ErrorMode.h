#pragma once
// The process's error mode. Nothing here shows critical-error boxes, so the
// mode is only kept: callers that save and restore it around a dialog get
// back what they set.

#include <cstdint>

constexpr uint32_t SEM_FAILCRITICALERRORS = 0x0001;
constexpr uint32_t SEM_NOGPFAULTERRORBOX = 0x0002;
constexpr uint32_t SEM_NOALIGNMENTFAULTEXCEPT = 0x0004;
constexpr uint32_t SEM_NOOPENFILEERRORBOX = 0x8000;

// Stores Mode and answers the previous one.
uint32_t SetErrorMode(uint32_t mode);
uint32_t GetErrorMode();
