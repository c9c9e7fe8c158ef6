#include "platform/catalogue/CatalogueHost.h"

namespace {
CatalogueHost* host = nullptr;
}

CatalogueHost* CatalogueHost::active() { return host; }

CatalogueHost::CatalogueHost() { host = this; }

CatalogueHost::~CatalogueHost()
{
    if (host == this)
        host = nullptr;
}
