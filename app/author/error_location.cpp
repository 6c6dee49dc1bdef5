#include "app/author/error_location.h"

namespace {

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

std::string located(const EditedFile& edited, const std::string& dataPath, const std::string& message) {
    return edited(dataPath) + ": " + message;
}

// An image name as the readers were given it: with its directory, or in the
// image directory.
std::string imageFile(const std::string& name, const std::string& imagePath) {
    return name.find('/') != std::string::npos ? name : imagePath + name;
}

}  // namespace

std::string locatedError(const std::string& text, const std::string& imagePath, const EditedFile& edited) {
    // "Error in parsing FILE: message" (a scene that does not read).
    static const std::string parsing = "Error in parsing ";
    if (startsWith(text, parsing)) {
        const std::size_t colon = text.find(": ", parsing.size());
        if (colon != std::string::npos && colon > parsing.size())
            return located(edited, text.substr(parsing.size(), colon - parsing.size()), text.substr(colon + 2));
        return text;
    }
    // "could not load image NAME" with the reader's reason in brackets after it.
    static const std::string image = "could not load image ";
    if (startsWith(text, image) && text.size() > image.size()) {
        const std::size_t end = text.find(' ', image.size());
        const std::string name = text.substr(image.size(), end == std::string::npos ? end : end - image.size());
        const std::string rest = end == std::string::npos ? "" : text.substr(end);
        return located(edited, imageFile(name, imagePath), "could not load image" + rest);
    }
    // "could not bring image to DEPTH NAME": the name is the last word.
    static const std::string bring = "could not bring image to ";
    if (startsWith(text, bring)) {
        const std::size_t space = text.rfind(' ');
        if (space != std::string::npos && space + 1 < text.size() && space >= bring.size())
            return located(edited, imageFile(text.substr(space + 1), imagePath), text.substr(0, space));
        return text;
    }
    // "scene FILE has no ...": an object or material the effect needs.
    static const std::string scene = "scene ";
    if (startsWith(text, scene)) {
        const std::size_t space = text.find(' ', scene.size());
        if (space != std::string::npos && space > scene.size() && startsWith(text.substr(space), " has no "))
            return located(edited, text.substr(scene.size(), space - scene.size()), "scene" + text.substr(space));
    }
    return text;
}
