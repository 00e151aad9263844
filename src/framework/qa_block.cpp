#include "framework/qa_block.h"

#include "framework/document.h"

QABlock& qa_block() { return document().qa; }

void reset_qa_block() { qa_block() = QABlock{}; }
