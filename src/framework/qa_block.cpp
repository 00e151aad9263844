#include "framework/qa_block.h"

QABlock& qa_block() {
    static QABlock block;
    return block;
}

void reset_qa_block() { qa_block() = QABlock{}; }
