#pragma once

#include <cstdint>

// Result codes of the helper object's methods, numbered as the browser's object
// model numbers them, so the adapters can pass them on unchanged.
using HRESULT = std::int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

constexpr bool SUCCEEDED(HRESULT result) {
    return result >= 0;
}
