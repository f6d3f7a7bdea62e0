#ifndef QUORVIL_EDITOR_EDITOR_H_
#define QUORVIL_EDITOR_EDITOR_H_

class Shape;

// The shape editor: keeps the chain of shapes and carries out the menu's
// commands, talking to the user only through the functions of console.h.
//
// The editor creates every shape and is the only one that destroys shapes. It
// owns the chain through head (each shape owns the one after it); tail only
// points at the last shape.
class Editor {
 public:
  Editor() = default;

  // The editor owns its chain, so a copy would destroy the shapes twice.
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  // Destroys the shapes still in the chain.
  ~Editor();

  // Writes the greeting, then carries out menu commands until command 4 ends
  // the process with status 0, or input ends. Does not return.
  void run();

 private:
  friend class EditorTest;  // Drives single commands and inspects the chain.

  // Menu command 1: asks for a kind and links a new shape of it at the end of
  // the chain. Every insert command counts, even one that makes no shape.
  void insertShape();

  // Menu command 2: asks for an index and destroys every shape carrying it.
  // The shapes that remain keep their order and their indices.
  void deleteShape();

  // Menu command 3: draws every shape, first inserted first.
  void showAll();

  // Insert commands carried out so far. When a shape is linked after the
  // last one, that last one takes this as its index; the counter never goes
  // back, so no index is handed out twice.
  int insertCount = 0;

  // The chain in insertion order: both null when the editor is empty,
  // otherwise following the links from head reaches tail, whose link is null.
  Shape* head = nullptr;  // Owned, and with it the rest of the chain.
  Shape* tail = nullptr;  // Not owned.
};

#endif  // QUORVIL_EDITOR_EDITOR_H_
