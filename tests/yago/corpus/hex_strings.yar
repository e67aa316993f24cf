rule HexForms
{
    strings:
        $plain = { 4D 5A 90 00 }
        $tight = {4D5A9000}
        $lower = { 4d 5a ff Ee }
        $wild = { 4D ?? 5A ?? }
        $nibbles = { 4? ?A 4D }
        $jumps = { 4D [2] 5A [2-4] 90 [0-1] 00 }
        $spaced_jump = { 4D [ 2 - 4 ] 5A }
        $open_jump = { 4D [3-] 5A }
        $any_jump = { 4D [-] 5A }
        $alternatives = { 4D ( 5A | 5B ) 90 }
        $nested = { 4D ( 5A ( 01 | 02 ) | 5B [1-2] 03 | ?? ) 90 }
        $deep = { 41 ( ( ( 42 | 43 ) ) | ( 44 ( 45 | 46 ( 47 | 48 ) ) ) ) 49 }
        $wild_start = { ?? 41 }
        $long_gap = { 41 42 [300-400] 43 44 }
        $private = { 41 42 43 } private
    condition:
        any of them
}

rule HexLayout
{
    strings:
        $multiline = {
            4D 5A       // MZ
            90 00       /* padding */
            ( 01 | 02 ) // } a brace in a comment
        }
        $comments = { 41 /* } */ 42 /* ( | ) */ 43 }
    condition:
        $multiline or $comments
}
