// The cost floor for the benchmarks: the same dialogue as quorvil, written
// and read with raw system calls and no streams. It writes the same bytes in
// the same pieces, one write(2) wherever quorvil flushes, and reads its input
// in blocks as quorvil's standard input does. It keeps its shapes as quorvil
// does, in a chain of nodes each allocated on its own, which every delete
// walks from the first to the last; so what quorvil costs beyond it is
// quorvil's own overhead, not its algorithm's.
//
//   floor           the chain
//   floor --array   the shapes in one array instead, for the price of the
//                   chain itself
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The dialogue's texts in code page 949.
const char kGreeting[] = "Quorvil\xC0\xD4\xB4\xCF\xB4\xD9.\n";
const char kMenu[] =
    "\xBB\xF0\xC0\xD4:1, \xBB\xE8\xC1\xA6:2, "
    "\xB8\xF0\xB5\xCE\xBA\xB8\xB1\xE2:3, \xC1\xBE\xB7\xE1:4 >>";
const char kKind[] = "\xBC\xB1:1, \xBF\xF8:2, \xBB\xE7\xB0\xA2\xC7\xFC:3 >>";
const char kIndex[] =
    "\xBB\xE8\xC1\xA6\xC7\xCF\xB0\xED\xC0\xDA \xC7\xCF\xB4\xC2 "
    "\xB5\xB5\xC7\xFC\xC0\xC7 \xC0\xCE\xB5\xA6\xBD\xBA >>";
const char* const kNames[] = {"", "Line\n", "Circle\n", "Rect\n"};

void put(const char* text) {
  size_t left = std::strlen(text);
  while (left > 0) {
    ssize_t n = write(1, text, left);
    if (n <= 0) return;
    text += n;
    left -= static_cast<size_t>(n);
  }
}

// Standard input, read in blocks on demand.
char buffer[8191];
size_t filled = 0;
size_t at = 0;
bool ended = false;

// Returns the next byte without taking it, or -1 at end of input.
int peek() {
  if (at == filled && !ended) {
    ssize_t n = read(0, buffer, sizeof buffer);
    if (n <= 0) {
      ended = true;
    } else {
      filled = static_cast<size_t>(n);
      at = 0;
    }
  }
  return at < filled ? static_cast<unsigned char>(buffer[at]) : -1;
}

bool isSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Writes prompt and reads an int as quorvil does: unreadable input is dropped
// through its line end and asked for again; at end of input a line end is
// written and the process ends.
int ask(const char* prompt) {
  for (;;) {
    put(prompt);
    while (isSpace(peek())) ++at;
    bool negative = false;
    if (peek() == '+' || peek() == '-') {
      negative = peek() == '-';
      ++at;
    }
    long long value = 0;
    bool digits = false;
    bool overflow = false;
    while (peek() >= '0' && peek() <= '9') {
      digits = true;
      value = value * 10 + (peek() - '0');
      if (value > 1LL + INT_MAX) {
        overflow = true;
        value = 1LL + INT_MAX;
      }
      ++at;
    }
    if (negative) value = -value;
    if (digits && !overflow && value >= INT_MIN && value <= INT_MAX) {
      return static_cast<int>(value);
    }
    if (peek() < 0) {
      put("\n");
      std::exit(0);
    }
    while (peek() >= 0 && peek() != '\n') ++at;
    if (peek() == '\n') ++at;
  }
}

// A shape as the floor keeps it: its kind and the number the delete
// command finds it by.
struct Shape {
  int kind;
  int index;
};

// The shapes in a singly linked chain, in insertion order, as quorvil keeps
// them. The chain owns its nodes, which only a delete frees, as quorvil's
// shapes.
class Chain {
 public:
  Chain() = default;
  Chain(const Chain&) = delete;
  Chain& operator=(const Chain&) = delete;

  // Links a new shape at the end; the shape that was last takes insertCount
  // as its index, as in quorvil.
  void insert(int kind, int insertCount) {
    Node* node = new Node{{kind, 0}, nullptr};
    if (head_ == nullptr) {
      head_ = tail_ = node;
      return;
    }
    tail_->shape.index = insertCount;
    tail_->next = node;
    tail_ = node;
  }

  // Walks the whole chain, as quorvil's delete does, unlinking and freeing
  // every node that carries index.
  void erase(int index) {
    Node* kept = nullptr;
    Node* node = head_;
    while (node != nullptr) {
      Node* next = node->next;
      if (node->shape.index != index) {
        kept = node;
        node = next;
        continue;
      }
      (kept == nullptr ? head_ : kept->next) = next;
      if (tail_ == node) tail_ = kept;
      delete node;
      node = next;
    }
  }

  void show() const {
    for (const Node* node = head_; node != nullptr; node = node->next) {
      put(kNames[node->shape.kind]);
    }
  }

 private:
  struct Node {
    Shape shape;
    Node* next;
  };

  Node* head_ = nullptr;
  Node* tail_ = nullptr;
};

// The shapes in one array, in insertion order.
class Array {
 public:
  void insert(int kind, int insertCount) {
    if (!shapes_.empty()) shapes_.back().index = insertCount;
    shapes_.push_back({kind, 0});
  }

  void erase(int index) {
    for (size_t i = 0; i < shapes_.size(); ++i) {
      if (shapes_[i].index == index) shapes_.erase(shapes_.begin() + i--);
    }
  }

  void show() const {
    for (const Shape& shape : shapes_) put(kNames[shape.kind]);
  }

 private:
  std::vector<Shape> shapes_;
};

// The menu loop, with the shapes kept in Shapes.
template <class Shapes>
int dialogue() {
  Shapes shapes;
  int insertCount = 0;
  put(kGreeting);
  for (;;) {
    switch (ask(kMenu)) {
      case 1: {
        int kind = ask(kKind);
        if (insertCount == INT_MAX) break;
        if (kind >= 1 && kind <= 3) shapes.insert(kind, insertCount);
        ++insertCount;
        break;
      }
      case 2:
        shapes.erase(ask(kIndex));
        break;
      case 3:
        shapes.show();
        break;
      case 4:
        return 0;
      default:
        break;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--array") == 0) {
    return dialogue<Array>();
  }
  return dialogue<Chain>();
}
