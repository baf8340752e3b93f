#include "cli/terminal_prompts.h"

#include <unistd.h>
#include <cstdio>
#include <iostream>
#include <string>

#include "platform/control_characters.h"

namespace lumbra::cli {
namespace {

MessageAnswer askOnTerminal() {
    std::fputs(" [y/N] ", stderr);
    std::string answer;
    if (!std::getline(std::cin, answer)) return MessageAnswer::No;
    return answer == "y" || answer == "Y" || answer == "yes" ? MessageAnswer::Yes
                                                             : MessageAnswer::No;
}

}  // namespace

MessageAnswer TerminalPrompts::show(const Message& message) {
    // Messages carry paths and titles from the disc and its CDDB entry.
    const std::string text = platform::printableText(message.text);
    if (message.buttons == MessageButtons::Ok) {
        std::fprintf(stderr, "\n%s\n", text.c_str());
        return MessageAnswer::Ok;
    }
    std::fprintf(stderr, "\n%s", text.c_str());
    switch (overwrite_) {
        case OverwriteAnswer::Yes:
            std::fputs(" yes\n", stderr);
            return MessageAnswer::Yes;
        case OverwriteAnswer::No:
            std::fputs(" no\n", stderr);
            return MessageAnswer::No;
        case OverwriteAnswer::Ask:
            if (isatty(STDIN_FILENO)) return askOnTerminal();
            std::fputs(" no (not asked: no terminal)\n", stderr);
            return MessageAnswer::No;
    }
    return MessageAnswer::No;
}

}  // namespace lumbra::cli
