include "deeper/leaf.yar"

rule CommonRule : common
{
    meta:
        origin = "included"
    condition:
        LeafRule
}
