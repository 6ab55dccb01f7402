#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class MessageIcon { Exclamation, Information };

// Modal message boxes for start-up failures ("ERROR"), teardown problems ("SHUTDOWN ERROR")
// and the missing simulator ("DEMO ERROR").
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(std::string_view caption, std::string_view text, MessageIcon icon) = 0;
};

// Where no display exists: one console line per box, "CAPTION: text".
class ConsoleMessageBoxes final : public MessageBoxes {
public:
    void show(std::string_view caption, std::string_view text, MessageIcon icon) override;
};

// Keeps every box shown, for tests and headless runs.
class RecordingMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        std::string caption;
        std::string text;
        MessageIcon icon;
    };
    void show(std::string_view caption, std::string_view text, MessageIcon icon) override {
        shown.push_back({std::string(caption), std::string(text), icon});
    }
    std::vector<Shown> shown;
};
