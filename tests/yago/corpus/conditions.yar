import "pe"
import "math"

rule Counts
{
    strings:
        $a = "alpha"
        $b = "beta"
        $c1 = "gamma one"
        $c2 = "gamma two"
    condition:
        #a > 2 and @a[1] < 100 and !a[1] == 5 and
        $a at 10 and $b in (0..filesize) and
        for any i in (1..#a) : ( @a[i] + !a[i] < filesize ) and
        for all of ($c*) : ( # > 0 and @ > 0 ) and
        2 of ($a, $b) and 1 of ($c*) and any of them and all of them and none of ($c1, $c2) and
        for 2 of them : ( $ ) and
        uint16(0) == 0x5A4D and uint32be(4) & 0xFF == 1 and int8(0) \ 2 > -1 and 7 % 3 == 1 and
        ~1 | 2 ^ 4 << 1 >> 1 != 0 and 0o17 == 15 and 1KB == 1024 and 1.5 < 2.25
}

rule Literals
{
    condition:
        "a}b" == "a}b" and
        "two  spaces { }" contains "  " and
        "escaped \" quote }" endswith "}" and
        "x" iequals "X" and "abc" startswith "a" and "ABC" icontains "b" and
        "mixed" matches /m.x{1,2}ed \/ }  {/ and
        "line" matches /LINE/i
}

rule Modules
{
    condition:
        pe.is_pe and pe.number_of_sections > 1 and
        pe.sections[0].name == ".text" and
        pe.imports("kernel32.dll", "CreateFileA") and
        for any section in pe.sections : ( section.name == ".rsrc" ) and
        math.entropy(0, filesize) > 7.0 and
        defined pe.entry_point and
        not pe.is_dll()
}

rule References
{
    condition:
        Counts or (Literals and not Modules)
}
rule LongConditionWithWordsInLiterals
{
    strings:
        $a = "x and y"
    condition:
        $a and "left and right" != "left or right" and filesize > 10 and "or and" contains " and "
}
