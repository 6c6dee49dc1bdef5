// SDL events become the demo's window messages, with Windows virtual-key codes.
#include "platform/virtual_keys.h"
#include "platform/window_messages.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

namespace vantor::test {
namespace {

using platform::WindowMessage;
namespace vk = platform::vk;

TEST(VirtualKeys, SdlKeysMapToTheWindowsNumbering) {
    using platform::virtualKeyFromSdl;
    EXPECT_EQ(virtualKeyFromSdl(SDLK_ESCAPE), 27);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_LSHIFT), 16);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RSHIFT), 16);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_LCTRL), 17);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_RCTRL), 17);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F1), 112);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_F12), 123);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_a), 'A');
    EXPECT_EQ(virtualKeyFromSdl(SDLK_z), 'Z');
    EXPECT_EQ(virtualKeyFromSdl(SDLK_0), '0');
    EXPECT_EQ(virtualKeyFromSdl(SDLK_9), '9');
    EXPECT_EQ(virtualKeyFromSdl(SDLK_LEFT), 37);
    EXPECT_EQ(virtualKeyFromSdl(SDLK_DOWN), 40);
    // Keys without a code give 0, never an index outside the keyboard state.
    for (SDL_Keycode key : {SDLK_UNKNOWN, SDLK_AUDIOPLAY, SDLK_APPLICATION, SDLK_LGUI, SDLK_MODE})
        EXPECT_EQ(virtualKeyFromSdl(key), 0) << key;
    for (int key = 0; key < 0x40000200; key += 0x1001) {
        const int code = virtualKeyFromSdl(key);
        EXPECT_TRUE(code >= 0 && code < 256) << key;
    }
}

class SdlMessages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
        // Whatever SDL queued on its own start is not part of the test.
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_EVENTS); }

    static void pushKey(Uint32 type, SDL_Keycode key) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.sym = key;
        SDL_PushEvent(&event);
    }
    static void pushWindow(Uint8 what, int data1 = 0, int data2 = 0) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = what;
        event.window.data1 = data1;
        event.window.data2 = data2;
        SDL_PushEvent(&event);
    }
    std::vector<WindowMessage> drain() {
        std::vector<WindowMessage> messages;
        WindowMessage message;
        while (queue.peekMessage(message)) messages.push_back(message);
        return messages;
    }

    platform::SdlMessageQueue queue;
};

TEST_F(SdlMessages, EventsBecomeTheFiveMessagesAndEverythingElseIsOther) {
    pushKey(SDL_KEYDOWN, SDLK_LCTRL);
    pushKey(SDL_KEYUP, SDLK_F1);
    pushWindow(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600);
    pushWindow(SDL_WINDOWEVENT_MINIMIZED);
    pushWindow(SDL_WINDOWEVENT_RESTORED);
    pushWindow(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    SDL_PushEvent(&motion);

    const auto messages = drain();
    ASSERT_EQ(messages.size(), 8u);
    EXPECT_EQ(messages[0].kind, WindowMessage::Kind::KeyDown);
    EXPECT_EQ(messages[0].key, vk::Control);
    EXPECT_EQ(messages[1].kind, WindowMessage::Kind::KeyUp);
    EXPECT_EQ(messages[1].key, vk::F1);
    EXPECT_EQ(messages[2].kind, WindowMessage::Kind::Size);
    EXPECT_EQ(messages[2].width, 800);
    EXPECT_EQ(messages[2].height, 600);
    EXPECT_EQ(messages[3].kind, WindowMessage::Kind::Activate);
    EXPECT_TRUE(messages[3].minimised);
    EXPECT_EQ(messages[4].kind, WindowMessage::Kind::Activate);
    EXPECT_FALSE(messages[4].minimised);
    EXPECT_EQ(messages[5].kind, WindowMessage::Kind::Close);
    EXPECT_EQ(messages[6].kind, WindowMessage::Kind::Close) << "SDL's quit is a close request";
    EXPECT_EQ(messages[7].kind, WindowMessage::Kind::Other);
}

TEST_F(SdlMessages, PostedQuitIsTakenLikeAnyMessage) {
    EXPECT_TRUE(drain().empty());
    queue.postQuitMessage();
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    const auto messages = drain();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].kind, WindowMessage::Kind::Quit);
    EXPECT_EQ(messages[1].key, vk::Escape);
    EXPECT_TRUE(drain().empty());
}

}  // namespace
}  // namespace vantor::test
