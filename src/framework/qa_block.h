// The model's quality-assurance block: who the analysis is for and who made
// and checked it, printed in the report headers and kept in the model file.
#pragma once

#include <array>
#include <string>

inline constexpr int QA_NAME_LIMIT = 60;     // client, project, prepared-by and checked-by lines
inline constexpr int QA_NUMBER_LIMIT = 20;   // file and report numbers
inline constexpr int QA_SIGN_LINES = 2;

struct QABlock {
    std::string client;
    std::string project;
    std::string file_number;
    std::string report_number;
    std::array<std::string, QA_SIGN_LINES> prepared_by;
    std::array<std::string, QA_SIGN_LINES> checked_by;
    bool operator==(const QABlock&) const = default;
};

QABlock& qa_block();
void reset_qa_block();
