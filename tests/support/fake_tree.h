// An in-memory server tree, standing in for the window's tree view.
#pragma once
#include <string>
#include <vector>

#include "core/controls.h"

namespace orlo::testing {

class FakeTree : public ITreeControl {
  public:
    struct Node {
        std::string text;
        void* data;
        int parent;
    };
    std::string ClassName() const override { return "TuTreeView"; }
    void BeginUpdate() override {}
    void EndUpdate() override {}
    void ClearNodes() override {
        nodes.clear();
        selected = top = -1;
    }
    int AddRoot(const std::string& text) override { return Add(text, nullptr, -1); }
    int AddChild(int parent, const std::string& text, void* data) override { return Add(text, data, parent); }
    void ExpandAll() override {}
    int NodeCount() const override { return static_cast<int>(nodes.size()); }
    std::string NodeText(int node) const override { return nodes.at(static_cast<size_t>(node)).text; }
    void* NodeData(int node) const override { return nodes.at(static_cast<size_t>(node)).data; }
    int NodeParent(int node) const override { return nodes.at(static_cast<size_t>(node)).parent; }
    void SetTopItem(int node) override { top = node; }
    int TopItem() const override { return top; }
    void Select(int node) override { selected = node; }
    int Selected() const override { return selected; }
    bool Enabled() const override { return enabled; }

    // "group/server" lines in tree order, for compact assertions.
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (const Node& n : nodes) out.push_back(n.parent < 0 ? n.text : "  " + n.text);
        return out;
    }

    std::vector<Node> nodes;
    int selected = -1;
    int top = -1;
    bool enabled = true;

  private:
    int Add(const std::string& text, void* data, int parent) {
        nodes.push_back({text, data, parent});
        return static_cast<int>(nodes.size()) - 1;
    }
};

}  // namespace orlo::testing
