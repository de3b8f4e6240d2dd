// A plain model of the copy comparison and its score line, written out step by
// step from their rules and sharing no code with scoring/ but the integer model
// of the percentage. The differential fuzz target holds the program to it.
#pragma once

#include <string>

enum ModelOutcome { ModelMatched, ModelMismatch, ModelShort };

struct ModelResult {
    int total;
    int correct;
    int sentPos;
    int receivedPos;
    ModelOutcome outcome;
    std::string line;
};

// The text upper-cased byte by byte.
std::string ModelUpper(const std::string& text);

ModelResult ModelCompare(const std::string& sent, const std::string& received);
