import "macho"
import "hash"

rule XProtect_MACOS_Sample_A
{
    meta:
        description = "MACOS.Sample.A"
        xprotect_rule = true
    strings:
        $s1 = { 5F 5F 63 66 73 74 72 69 6E 67 }
        $s2 = "/Library/LaunchAgents/com.sample.plist"
        $s3 = /[a-z]{8}\.app\/Contents\/MacOS\//
    condition:
        uint32(0) == 0xfeedfacf and filesize < 5MB and
        (macho.filetype == macho.MH_EXECUTE or macho.cputype == macho.CPU_TYPE_ARM64) and
        2 of ($s*)
}

rule XProtect_MACOS_Sample_B
{
    meta:
        description = "MACOS.Sample.B"
    condition:
        filesize < 100KB and
        hash.sha1(0, filesize) == "0123456789abcdef0123456789abcdef01234567"
}
