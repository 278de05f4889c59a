// The actions a piece of the program asked of its window, in order, as one
// line of text: a table row states them as "check 2, stop 2, chosen 2".
#pragma once
#include <cstddef>
#include <string>

class ActionLog {
  public:
    void Add(const std::string& action) { line_ += (line_.empty() ? "" : ", ") + action; }
    void Add(const std::string& action, std::size_t index) {
        Add(action + " " + std::to_string(index));
    }
    // What was asked since the last Take.
    std::string Take() {
        std::string line;
        line.swap(line_);
        return line;
    }

  private:
    std::string line_;
};
