// FIND_NODE_DIALOG: asks for a node and leaves the found node number in a
// shared integer. Looking the node up belongs to the node table, so the
// caller passes the lookup.
#pragma once

#include "platform/backend.h"

#include <functional>
#include <string>

// Turns a node text (blanks removed, upper case) into a node number; false
// when there is no such node. It may throw a message text for a text that is
// no node at all.
using NodeLookup = std::function<bool(const std::string& text, int& node)>;

// True when a node was found (then in found_node()); false on Cancel. A node
// that is not found gives "Node  <text>  not found" and the dialog stays open.
bool find_node_dialog(WindowId owner, const NodeLookup& lookup);

// The node found last; 0 before any.
int& found_node();
// The text typed last, offered again the next time.
std::string& find_node_text();
