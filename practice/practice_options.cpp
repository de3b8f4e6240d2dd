// Reading the practice Trainer's switches.
#include "practice_options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

constexpr int kGroupsPerLine = 10;

const char* GroupEnd(int group) {
    return group % kGroupsPerLine == 0 ? "\r\n" : " ";
}

std::string FillText(int length) {
    const auto size = static_cast<std::size_t>(length > 0 ? length : 0);
    std::string text;
    int letters = 0;
    for (int group = 1; text.size() < size; ++group) {
        for (int i = 0; i < 5; ++i, ++letters) {
            text.push_back(static_cast<char>('A' + letters % 26));
        }
        text += GroupEnd(group);
    }
    text.resize(size);
    return text;
}

namespace {

// The file's bytes exactly as stored, line ends included; "" when unreadable.
std::string ReadFileBytes(const char* path) {
    std::string bytes;
    if (FILE* file = std::fopen(path, "rb")) {
        char chunk[4096];
        std::size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            bytes.append(chunk, got);
        }
        std::fclose(file);
    }
    return bytes;
}

int Number(const char* text) {
    return std::atoi(text);
}

} // namespace

void ParseOptions(int argc, char** argv, PracticeOptions* options) {
    for (int i = 1; i < argc; ++i) {
        const char* name = argv[i];
        if (std::strcmp(name, "--start-in-panel") == 0) {
            options->startInPanel = true;
            continue;
        }
        if (std::strcmp(name, "--two-stops") == 0) {
            options->twoStops = true;
            continue;
        }
        if (std::strcmp(name, "--two-texts") == 0) {
            options->twoTexts = true;
            continue;
        }
        if (std::strcmp(name, "--edit-text") == 0) {
            options->editText = true;
            continue;
        }
        if (i + 1 == argc) {
            break; // a last word without its value
        }
        const char* value = argv[i + 1];
        bool takesValue = true;
        if (std::strcmp(name, "--title") == 0) {
            options->title = value;
        } else if (std::strcmp(name, "--start-caption") == 0) {
            options->startCaption = value;
        } else if (std::strcmp(name, "--button-class") == 0) {
            options->buttonClass = value;
        } else if (std::strcmp(name, "--text-class") == 0) {
            options->textClass = value;
        } else if (std::strcmp(name, "--text") == 0) {
            options->initialText = value;
        } else if (std::strcmp(name, "--text-file") == 0) {
            options->initialText = ReadFileBytes(value);
        } else if (std::strcmp(name, "--fill") == 0) {
            options->initialText = FillText(Number(value));
        } else if (std::strcmp(name, "--slow-gettext") == 0) {
            options->slowGetTextMs = Number(value);
        } else if (std::strcmp(name, "--children") == 0) {
            options->extraChildren = Number(value);
        } else if (std::strcmp(name, "--at") == 0 && i + 2 < argc) {
            options->x = Number(value);
            options->y = Number(argv[i + 2]);
            ++i; // two values
        } else {
            takesValue = false; // unknown: look at the next word as a switch
        }
        if (takesValue) {
            ++i;
        }
    }
}
