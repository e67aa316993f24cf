private rule SecondLeaf { condition: true }
