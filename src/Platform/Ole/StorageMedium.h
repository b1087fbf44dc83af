#pragma once
// Releasing what a storage medium holds.

#include "Platform/Ole/OleTypes.h"

namespace Platform {

// Releases the medium's release object when it has one; otherwise frees its global
// block (TYMED_HGLOBAL) or deletes its bitmap (TYMED_GDI). The medium is empty afterwards.
void ReleaseStgMedium(STGMEDIUM* medium);

} // namespace Platform
