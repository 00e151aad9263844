// The model file fixture with the scripted backend, for the tests of the
// model's windows, dialogs and commands: the list frame with its window, the
// table it shows, and typing into a window as keys arrive.
#pragma once

#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "model/data/model_file_fixture.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "platform/headless/headless_backend.h"

class ModelFileUiTest : public ModelFileTest {
protected:
    void SetUp() override
    {
        install_headless_backend();
        ModelFileTest::SetUp();
    }
    static Script& script() { return headless_backend().script(); }

    // The list frame with the list window and its commands, as the program
    // makes them (width and height 0: the frame's own size), and their end.
    static void open_list_frame(int width = 0, int height = 0)
    {
        frame_create(list_frame(), "KorvaneList", "List", nullptr, "LIST_MENU", nullptr, "");
        create_list_window();
        install_list_window_commands();
        if (width > 0)
            script().resize(list_frame().window, width, height);
    }
    static void close_list_frame()
    {
        close_list_window();
        destroy_list_window();
        frame_destroy(list_frame());
    }
    // The table the list window shows.
    static TableWindow& shown()
    {
        TableWindow* t = list_window_table();
        EXPECT_NE(t, nullptr);
        return *t;
    }
    // Types a text into a window's client, a character a key.
    static void type_into(WindowId client, const std::string& text)
    {
        ClientEvents* events = headless_backend().window(client)->client_events;
        for (char c : text)
            events->on_char(std::string(1, c));
    }
};
