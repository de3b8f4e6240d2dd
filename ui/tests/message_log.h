// Message sequences for the dialog tests: a log of what a handler saw, and
// checks of it against const tables of expected messages.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

struct SeenMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

enum ExpectFlags : unsigned {
    AnyParams = 0,
    MatchWParam = 1, // wParam must equal the expected one
};

struct ExpectedMessage {
    UINT message;
    unsigned flags;
    WPARAM wParam;
};

// The messages a test handler saw, in order. Tests clear it before each run.
extern std::vector<SeenMessage> MessageLog;

void LogMessage(UINT message, WPARAM wParam, LPARAM lParam);

// Passes when the expected messages appear in the log in this order, with any
// other messages between them. The failure names the first one missing, where
// the search stood, and the whole log.
::testing::AssertionResult SeenInOrder(const std::vector<SeenMessage>& log,
                                       const ExpectedMessage* expected, std::size_t count);

template <std::size_t N>
::testing::AssertionResult SeenInOrder(const std::vector<SeenMessage>& log,
                                       const ExpectedMessage (&expected)[N]) {
    return SeenInOrder(log, expected, N);
}

std::size_t CountSeen(const std::vector<SeenMessage>& log, UINT message);

// "WM_CLOSE", or the number in hex for messages without a name here.
std::string MessageName(UINT message);

// The log as one line per message, for failure output.
std::string Describe(const std::vector<SeenMessage>& log);
