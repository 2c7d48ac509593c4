// Small helpers over the registry: key paths written as text with the name of
// their root key, and reads that accept a value only when it has exactly the
// type (and for numbers the size) the caller expects.
#pragma once

#include "framework/Str.h"

#include <windows.h>

// For a path such as "HKEY_CURRENT_USER\Software\Mordale" sets *phRoot to the
// predefined key and returns the sub-key part after the separator ('\' or
// '/'); root names compare without case. NULL when no root name matches or
// nothing follows the separator.
LPCTSTR ParseRegistryRootKey(LPCTSTR pszKeyPath, HKEY* phRoot);

// 1 when the value is a REG_SZ of non-zero size; the text stops at its first
// zero. Else 0 and strValue is left alone.
int RegQueryString(HKEY hKey, LPCTSTR pszValueName, CString& strValue);

// 1 only for a REG_DWORD of exactly 4 bytes; else 0 and dwValue is left alone.
int RegQueryDword(HKEY hKey, LPCTSTR pszValueName, DWORD& dwValue);
