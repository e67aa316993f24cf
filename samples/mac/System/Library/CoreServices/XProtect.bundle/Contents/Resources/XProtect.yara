// A small rule file in the shape of XProtect's own, for trying Tarnwick out. The names are those
// of real XProtect rules; the strings are made up for this sample.
import "hash"

private rule Macho
{
    meta:
        description = "private rule to match Mach-O binaries"
    condition:
        uint32(0) == 0xfeedface or uint32(0) == 0xcefaedfe or uint32(0) == 0xfeedfacf or
        uint32(0) == 0xcffaedfe or uint32(0) == 0xcafebabe or uint32(0) == 0xbebafeca
}

private rule PE
{
    meta:
        description = "private rule to match PE binaries"
    condition:
        uint16(0) == 0x5a4d and uint32(uint32(0x3C)) == 0x4550
}

rule EICAR
{
    meta:
        description = "test file of the European Institute for Computer Antivirus Research"
    strings:
        $a = "X5O!P%@AP[4\\PZX54(P^)7CC)7}$EICAR-STANDARD-ANTIVIRUS-TEST-FILE!$H+H*"
    condition:
        $a at 0
}

rule FlashbackA
{
    meta:
        description = "OSX.Flashback.A"
    strings:
        $a = { 4D 5A ?? 90 [2-4] ( 41 | 42 ) }
        $b = "flashback.sample" wide ascii
    condition:
        Macho and filesize < 200KB and all of them
}

rule KeRangerA
{
    meta:
        description = "OSX.KeRanger.A"
    strings:
        $a = { 48 8B 05 ?? ?? ?? ?? 48 8B 00 48 3B 45 F0 }
        $b = "README_FOR_DECRYPT.txt" nocase
    condition:
        Macho and ($a or $b)
}

rule XProtect_OSX_Proton_B : backdoor
{
    meta:
        description = "OSX.Proton.B"
    strings:
        $a = /\.proton\.[a-z]{3,8}/ nocase
        $b = "proton_sample" xor(1-31)
    condition:
        Macho and any of them
}

rule XProtect_AdLoad_A
{
    meta:
        description = "OSX.AdLoad.A"
    strings:
        $a = "com.adload.sample.agent" fullword
        $b = { 61 64 6c 6f 61 64 2e 73 61 6d 70 6c 65 }
    condition:
        Macho and filesize < 4MB and $a and #b > 0
}

rule XProtect_MACOS_e150543
{
    meta:
        description = "MACOS.e150543"
    strings:
        $a = "e150543-sample" base64
    condition:
        Macho and $a and hash.md5(0, 4) != "00000000000000000000000000000000"
}
