// The image cache: loads each image file once and hands the same kpximage
// record to everybody who asks for it by name.
//
// The reader is chosen by the name's last three characters ("tga"/"TGA",
// "jpg"/"JPG", "gif"/"GIF", "pcx"/"PCX"); the file is opened through the ppd_
// file layer, so in archive mode the full path names an archive member.
// Records are shared, not copied: a caller that converts a record in place
// changes it for every later caller of that name. Entries stay in loading
// order and live until freeImage or the end of the cache. Every line this
// class prints, whatever the KPX verbose switch says, goes through
// vantor::log::progress to standard output (unless a tool made progress
// quiet); printStats alone writes to standard output directly, as asked.
#pragma once

#include <string>

struct kpximage;

// A KPX reader: loads the file at a path through the ppd_ layer.
using ImageReader = kpximage* (*)(const char* path);

// The reader the cache chooses for a name: by its last three characters,
// compared exactly; null for any other extension or a name shorter than three.
ImageReader imageReaderFor(const std::string& name);

struct ImageEntry {
    std::string name;  // the key: the name as passed to getImage, without directory
    kpximage* image;   // owned by the cache
    ImageEntry* next;
};

class ImageLibrary {
public:
    ImageLibrary();
    ~ImageLibrary();
    ImageLibrary(const ImageLibrary&) = delete;
    ImageLibrary& operator=(const ImageLibrary&) = delete;

    // Base directory put in front of names asked without a directory.
    void setPath(const char* directory);

    // The shared record for name, loading it from directory (or the base
    // directory) on first use; null when it cannot be loaded (the KPX error
    // list holds the reader's reason).
    kpximage* getImage(const char* name, const char* directory = nullptr);

    // 0 when the entry was found and freed, 1 when no entry has that name.
    int freeImage(const char* name);

    // The statistics: every entry with its size, the count and the megabytes.
    void printStats() const;
    // The same lines into "imglib.sta" in the working directory; 0 on
    // success, 1 when the file cannot be created (a line on stdout says so).
    int writeStats() const;

    // First entry of the list (null when empty), for tools and tests.
    const ImageEntry* firstEntry() const { return first; }

private:
    ImageEntry* first;
    std::string path;  // empty: no base directory
};
