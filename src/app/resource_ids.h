#pragma once
// Shared by the resource script and the code.
#define IDI_NIMBREL 1
