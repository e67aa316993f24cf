// Text strings with each escape and each modifier, alone and combined.
rule TextEscapes
{
    strings:
        $quote = "say \"hi\""
        $backslash = "C:\\Windows\\"
        $controls = "tab\there\nnew\rline"
        $bytes = "\x4D\x5a\x00\xff"
        $spaces = "two  spaces   three"
        $braces = "} { }}"
        $slashes = "// not a comment /* nor this */"
    condition:
        any of them
}

rule TextModifiers
{
    strings:
        $ascii = "plain" ascii
        $wide = "wide" wide
        $both = "both" ascii wide
        $nocase = "NoCase" nocase
        $fullword = "word" fullword
        $private = "hidden" private
        $xor = "xor" xor
        $xor_one = "xor one" xor(0x20)
        $xor_range = "xor range" xor(1-255)
        $xor_spaced = "xor spaced" xor ( 0x01 - 0xff )
        $b64 = "base64" base64
        $b64wide = "base64 wide" base64wide
        $b64alpha = "alphabet" base64("!@#$%^&*(){}[].,|ABCDEFGHIJ\x09LMNOPQRSTUVWXYZabcdefghijklmnopqrstu")
        $b64widealpha = "wide alphabet" base64wide ( "!@#$%^&*(){}[].,|ABCDEFGHIJ\x09LMNOPQRSTUVWXYZabcdefghijklmnopqrstu" )
        $mixed = "mixed" wide nocase fullword private
        $xorwide = "xor wide" xor wide ascii
    condition:
        any of them
}
