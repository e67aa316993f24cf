// Includes are followed from this file's folder; their rules come out where the include stands.
include "included/common.yar"

rule AfterCommon { condition: CommonRule and LeafRule }

include "included/deeper/second_leaf.yar"

rule Last { condition: SecondLeaf }
