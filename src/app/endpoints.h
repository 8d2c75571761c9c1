#pragma once
// The update check's two addresses. They are build configuration (NIMBREL_VERSION_FILE_URL and
// NIMBREL_DOWNLOAD_PAGE_URL), compiled into each executable on its own, so that a test build can point
// at a server of its own while the shipped program keeps the vendor's.

namespace nimbrel {

extern const wchar_t kVersionFileEndpoint[];
extern const wchar_t kDownloadPageEndpoint[];

}  // namespace nimbrel
