// What the page's address asks for, read from its fragment:
//   (empty)                    the show from its start
//   #at=MS[,MS...]             every frame up to each time (ascending), each
//                              time's frame left on the canvas in turn
//   &fps=N                     frames a second of music for those (default 60)
//   &size=WxH                  the drawing buffer (default 640x480)
// Anything else is refused with a message naming it.
#pragma once

#include <string>
#include <vector>

struct PageRequest {
    std::vector<int> at;
    int fps = 60;
    int width = 640;
    int height = 480;
};

// False with the reason in *error for a fragment that is not one of those.
bool readPageRequest(const std::string& fragment, PageRequest& request, std::string* error);
