// What the resource catalogue asks of the program that runs it: to show that a loading step is under
// way, to hear how far a pass has come, and the sound manager that sound entries load into and catalogue
// sounds play on. The application, which sits above the catalogue and makes it, is the host; without
// one a pass reports to nobody and sound entries are only numbered.
#pragma once

class SoundManager;

class CatalogueHost {
public:
    // The host made last that is still alive, or null.
    static CatalogueHost* active();

    // A loading step begins (the wait cursor).
    virtual void catalogueBusy() = 0;
    // The pass has loaded `loaded` of its `total` entries.
    virtual void catalogueProgress(int loaded, int total) = 0;
    // Null while there is none.
    virtual SoundManager* catalogueSoundManager() = 0;

protected:
    CatalogueHost();
    ~CatalogueHost();
    CatalogueHost(const CatalogueHost&) = delete;
    CatalogueHost& operator=(const CatalogueHost&) = delete;
};
