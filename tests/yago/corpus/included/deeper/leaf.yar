rule LeafRule { strings: $leaf = "leaf" condition: $leaf }
