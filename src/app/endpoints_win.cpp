#include "app/endpoints.h"

namespace nimbrel {

extern const wchar_t kVersionFileEndpoint[] = NIMBREL_VERSION_FILE_URL;
extern const wchar_t kDownloadPageEndpoint[] = NIMBREL_DOWNLOAD_PAGE_URL;

}  // namespace nimbrel
