/*
    Rules of the scan benchmark, in the shape of XProtect's own file: private rules for the
    file kinds, MACOS.* families with text strings (ascii, wide, nocase, fullword), hex strings
    with wildcards, alternatives and jumps, a few regular expressions, magic checks and size
    bounds, and two rules that pin a sample by size and hash as XProtect does.

    The tree of make_tree.py carries the strings of the rules marked "carried" (the generator's
    marker table names them); the other rules only cost the scan their atoms.
*/

import "hash"

private rule Macho
{
    meta:
        description = "private.macho"
    condition:
        uint32(0) == 0xfeedface or uint32(0) == 0xcefaedfe or
        uint32(0) == 0xfeedfacf or uint32(0) == 0xcffaedfe or
        uint32(0) == 0xcafebabe or uint32(0) == 0xbebafeca
}

private rule FatMacho
{
    meta:
        description = "private.macho.fat"
    condition:
        uint32be(0) == 0xcafebabe and uint32be(4) > 0 and uint32be(4) < 8
}

private rule Script
{
    meta:
        description = "private.script"
    condition:
        uint16(0) == 0x2123 // "#!"
}

// ---- carried -----------------------------------------------------------------------------

rule TW_MACOS_ADLOAD_PLIST
{
    meta:
        description = "MACOS.ADLOAD.PLIST"
    strings:
        $k = "<key>ProgramArguments</key>"
        $l = "<string>/Library/Application Support/."
        $id = "com.adload." nocase
    condition:
        filesize < 64KB and all of them
}

rule TW_MACOS_BUNDLORE_SH
{
    meta:
        description = "MACOS.BUNDLORE.SH"
    strings:
        $enc = "openssl enc -aes-256-cbc -d -A -base64 -k"
        $tail = /tail -c ?\+[0-9]{3,6} "?\$0"?/
    condition:
        Script and filesize < 20KB and all of them
}

rule TW_MACOS_SHLAYER_WIDE
{
    meta:
        description = "MACOS.SHLAYER.WIDE"
    strings:
        $w1 = "ShlayerInstallerHelper" wide
        $w2 = "Flash Player Update" wide nocase
    condition:
        filesize < 3MB and any of them
}

rule TW_MACOS_PIRRIT_PROXY
{
    meta:
        description = "MACOS.PIRRIT.PROXY"
    strings:
        $a = "pirrit_proxy_setup" nocase ascii wide
        $b = "networksetup -setwebproxy"
    condition:
        all of them
}

rule TW_MACOS_GENIEO_URL
{
    meta:
        description = "MACOS.GENIEO.URL"
    strings:
        $r = /https?:\/\/[a-z0-9]{10}\.(top|xyz|club)\/api\/v[0-9]\/[a-z]{4,8}/
        $e = "\"extension_id\""
    condition:
        filesize < 1MB and $r and $e
}

rule TW_MACOS_OSASCRIPT_DROPPER
{
    meta:
        description = "MACOS.DROPPER.OSASCRIPT"
    strings:
        $a = "osascript -e"
        $b = "do shell script"
        $c = "curl -fsSL"
        $d = "/tmp/."
    condition:
        Script and 3 of them
}

rule TW_MACOS_KEYCHAIN_STEALER
{
    meta:
        description = "MACOS.STEALER.KEYCHAIN"
    strings:
        $a = "security find-generic-password -wa"
        $b = "Chrome Safe Storage" ascii wide
    condition:
        all of them
}

rule TW_MACOS_DOK_A
{
    meta:
        description = "MACOS.DOK.A"
    strings:
        $h = { 48 8B 05 ?? ?? ?? ?? 48 85 C0 74 ?? 48 8D 3D [4] E8 }
        $s = "Dok_Updater"
    condition:
        Macho and filesize < 2MB and all of them
}

rule TW_MACOS_PROTON_B
{
    meta:
        description = "MACOS.PROTON.B"
    strings:
        $h = { 55 48 89 E5 41 57 41 56 [2-6] 48 83 EC ?? 4C 8D 35 }
        $s1 = "proton.agent"
        $s2 = "com.eltima.elmedia" nocase
    condition:
        Macho and $h and any of ($s*)
}

rule TW_MACOS_EVILQUEST
{
    meta:
        description = "MACOS.EVILQUEST.A"
    strings:
        $a = "toidievitceffe"
        $h = { 63 6F 6E 66 69 67 ( 2E | 5F ) 74 78 74 }  // config.txt, config_txt
    condition:
        Macho and all of them
}

rule TW_MACOS_XLOADER_FAT
{
    meta:
        description = "MACOS.XLOADER.FAT"
    strings:
        $h = { 58 4C 6F 61 64 65 72 ?? ?? 00 00 [8-24] 2F 55 73 65 72 73 2F }
    condition:
        FatMacho and filesize < 4MB and $h
}

rule TW_MACOS_PAYLOAD_BLOB
{
    meta:
        description = "MACOS.PAYLOAD.BLOB"
    strings:
        $h = { 4D 41 43 42 [4-16] 00 01 02 03 ?? ?? FE ED FA CE }
    condition:
        not Macho and filesize > 64KB and filesize < 4MB and $h
}

rule TW_MACOS_DMG_PAYLOAD
{
    meta:
        description = "MACOS.DMG.PAYLOAD"
    strings:
        $koly = "koly"
        $p = "InstallerUpdate.pkg" ascii wide
    condition:
        filesize > 4MB and $koly at filesize - 512 and $p
}

rule TW_MACOS_XCSSET_PROJ
{
    meta:
        description = "MACOS.XCSSET.PROJ"
    strings:
        $a = "xcsset" nocase ascii wide fullword
        $b = "Pods/Target Support Files"
        $c = /[A-Za-z0-9_]{3,24}\.xcodeproj\/project\.pbxproj/
    condition:
        2 of them
}

rule TW_MACOS_BASE64_EVAL
{
    meta:
        description = "MACOS.LOADER.EVAL"
    strings:
        $a = "eval \"$(echo "
        $b = "| base64 --decode)\""
    condition:
        filesize < 32KB and all of them
}

rule TW_MACOS_MINER
{
    meta:
        description = "MACOS.MINER.XMRIG"
    strings:
        $a = "stratum+tcp://"
        $b = "xmrig" nocase
        $c = "--donate-level"
    condition:
        Macho and 2 of them
}

rule TW_MACOS_APPLEJEUS_STACKSTR
{
    meta:
        description = "MACOS.APPLEJEUS.STACK"
    strings:
        $h = { C7 45 ?? 2F 74 6D 70 C7 45 ?? 2F 2E 6C 6F }  // "/tmp" "/.lo" built on the stack
    condition:
        Macho and $h
}

rule TW_MACOS_UPDATE_BEACON
{
    meta:
        description = "MACOS.BEACON.UPDATE"
    strings:
        $u = "update-checker.example-cdn.net/"
    condition:
        #u > 3 and filesize < 200KB
}

rule TW_MACOS_TWB_CONTAINER
{
    meta:
        description = "MACOS.CONTAINER.TWB"
    strings:
        $k = "keyring"
    condition:
        uint32be(0) == 0x54574231 and $k in (0..1024)
}

rule TW_MACOS_DEFENSE_EVASION
{
    meta:
        description = "MACOS.EVASION.GEN"
    strings:
        $x1 = "kill_av_process"
        $x2 = "disable_gatekeeper"
        $x3 = "spctl --master-disable"
    condition:
        for any of ($x*) : ( # > 1 )
}

rule TW_MACOS_HIDDEN_AGENT_PLIST
{
    meta:
        description = "MACOS.PERSIST.PLIST"
    strings:
        $a = "<key>RunAtLoad</key>"
        $b = "<key>KeepAlive</key>"
        $c = /<string>\/Users\/[A-Za-z0-9_.-]{1,32}\/\.[a-z]{4,12}\/[a-z]{4,12}<\/string>/
    condition:
        filesize < 16KB and all of them
}

rule TW_MACOS_MINIINSTALLER_WIDE
{
    meta:
        description = "MACOS.INSTALLER.MINI"
    strings:
        $a = "UpdateAgent.MiniInstaller" wide nocase
    condition:
        filesize < 2MB and $a
}

rule TW_MACOS_DYLIB_INJECT
{
    meta:
        description = "MACOS.INJECT.DYLIB"
    strings:
        $a = "@rpath/libsystem_update.dylib"
        $b = "DYLD_INSERT_LIBRARIES"
    condition:
        Macho and all of them
}

rule TW_MACOS_SILVER_SPARROW
{
    meta:
        description = "MACOS.SILVERSPARROW.A"
    strings:
        $a = "agent_updater_ver"
        $b = "verx.sh"
        $c = "~/Library/._insu"
    condition:
        2 of them
}

rule TW_MACOS_LARGE_ARCHIVE_PAYLOAD
{
    meta:
        description = "MACOS.ARCHIVE.PAYLOAD"
    strings:
        $a = "kcm_shared_payload_v2" ascii wide
    condition:
        filesize > 4MB and $a
}

rule TW_MACOS_SWIFT_LAUNCHER
{
    meta:
        description = "MACOS.LAUNCHER.SWIFT"
    strings:
        $r = /launchPath = "\/private\/var\/tmp\/\.[a-z0-9]{6,16}"/
        $s = "arguments = [\"-c\""
    condition:
        $r and $s
}

// ---- not carried -------------------------------------------------------------------------

rule TW_MACOS_ADLOAD_B
{
    meta:
        description = "MACOS.ADLOAD.B"
    strings:
        $h1 = { 48 89 DF E8 ?? ?? ?? ?? 48 8B 3D ?? ?? ?? ?? 48 8B 35 ?? ?? ?? ?? 4C 89 F2 FF 15 }
        $h2 = { 41 64 4C 6F 61 64 [0-8] 53 65 61 72 63 68 }  // AdLoad ... Search
        $s = "_adload_search_daemon"
    condition:
        Macho and filesize < 4MB and ($s or all of ($h*))
}

rule TW_MACOS_ADLOAD_C
{
    meta:
        description = "MACOS.ADLOAD.C"
    strings:
        $a = "/Library/Application Support/.mitmproxy" ascii wide
        $b = "injectedScript.js"
        $c = "MMPCacheDirectory"
    condition:
        2 of them
}

rule TW_MACOS_ADLOAD_D
{
    meta:
        description = "MACOS.ADLOAD.D"
    strings:
        $h = { 0F B6 ?? ?? 80 F? 5A 88 ?? ?? 48 FF C? 48 83 F? 20 75 }
    condition:
        Macho and filesize < 3MB and $h
}

rule TW_MACOS_BUNDLORE_B
{
    meta:
        description = "MACOS.BUNDLORE.B"
    strings:
        $a = "mm-install-macos"
        $b = "installer_bundle_identifier" wide
        $c = { 42 75 6E 64 6C 6F 72 65 ( 41 | 42 | 43 ) }
    condition:
        any of them
}

rule TW_MACOS_PIRRIT_B
{
    meta:
        description = "MACOS.PIRRIT.B"
    strings:
        $x = "pirritdesktop" nocase
        $y = "pirrit.app" nocase wide
    condition:
        filesize < 10MB and any of them
}

rule TW_MACOS_GENIEO_B
{
    meta:
        description = "MACOS.GENIEO.B"
    strings:
        $a = "GenieoEngine" ascii wide
        $b = "com.genieoinnovation.macextension" nocase
        $c = { 47 65 6E 69 65 6F [2-10] 48 65 6C 70 65 72 }
    condition:
        Macho and any of them
}

rule TW_MACOS_MAXOFFERDEAL
{
    meta:
        description = "MACOS.MAXOFFERDEAL.A"
    strings:
        $a = "maxofferdeal.com" nocase
        $b = "searchbaron" nocase wide
    condition:
        any of them
}

rule TW_MACOS_DOLITTLE
{
    meta:
        description = "MACOS.DOLITTLE.A"
    strings:
        $h = { 64 6F 6C 69 74 74 6C 65 ?? 5F 63 6C 69 65 6E 74 }
        $s = "_dolittle_connect_back"
    condition:
        Macho and any of them
}

rule TW_MACOS_ELEANOR
{
    meta:
        description = "MACOS.ELEANOR.A"
    strings:
        $a = "/Library/.SystemPreferences/.eleanor" ascii
        $b = "tor_hostname_file"
        $c = "pastebin.com/raw/" nocase
    condition:
        2 of them
}

rule TW_MACOS_KERANGER
{
    meta:
        description = "MACOS.KERANGER.A"
    strings:
        $a = "README_FOR_DECRYPT.txt" ascii wide
        $b = ".encrypted" fullword
        $h = { 6B 65 72 61 6E 67 65 72 [0-4] 2E 6B 65 79 }
    condition:
        Macho and ($h or all of ($a, $b))
}

rule TW_MACOS_CIMPLI
{
    meta:
        description = "MACOS.CIMPLI.A"
    strings:
        $a = "cimpli_updater_plist"
        $b = { 43 69 6D 70 6C 69 ?? ?? ?? ?? 55 70 64 61 74 65 }
    condition:
        filesize < 5MB and any of them
}

rule TW_MACOS_VSEARCH
{
    meta:
        description = "MACOS.VSEARCH.A"
    strings:
        $a = "vsearch_agent_launch" wide ascii
        $b = "com.vsearch.helper" nocase
    condition:
        any of them
}

rule TW_MACOS_MUGHTHESEC
{
    meta:
        description = "MACOS.MUGHTHESEC.A"
    strings:
        $h = { 4D 75 67 68 74 68 65 73 65 63 [4-12] 2E 61 70 70 }
    condition:
        Macho and $h
}

rule TW_MACOS_CROSSRIDER
{
    meta:
        description = "MACOS.CROSSRIDER.A"
    strings:
        $a = "crossrider_extension_id"
        $b = "/Library/Application Support/Crossrider" nocase
        $r = /crossrider\.com\/[a-z]{3,12}\/[0-9]{4,8}/
    condition:
        any of them
}

rule TW_MACOS_TOYDROPS
{
    meta:
        description = "MACOS.TOYDROPS.A"
    strings:
        $a = "toydrops_installer_v" ascii wide
        $h = { 54 6F 79 44 72 6F 70 73 00 ?? ?? ?? ?? 00 }
    condition:
        any of them
}

rule TW_MACOS_IMULER
{
    meta:
        description = "MACOS.IMULER.A"
    strings:
        $a = "/tmp/.mdworker_imuler"
        $b = "FileAgentApp" wide
        $c = "imuler_upload_begin"
    condition:
        Macho and 2 of them
}

rule TW_MACOS_FRUITFLY
{
    meta:
        description = "MACOS.FRUITFLY.A"
    strings:
        $a = "fpsaud" fullword
        $b = /\$Q\s*=\s*"[A-Za-z0-9+\/]{40,}={0,2}";\s*eval/
        $c = "/usr/bin/perl -e" nocase
    condition:
        Script and 2 of them
}

rule TW_MACOS_WINDTAIL
{
    meta:
        description = "MACOS.WINDTAIL.A"
    strings:
        $a = "flux2key" ascii wide
        $b = { 57 69 6E 64 54 61 69 6C [2-8] 55 53 42 }
    condition:
        Macho and filesize < 2MB and any of them
}

rule TW_MACOS_BELLA
{
    meta:
        description = "MACOS.BELLA.A"
    strings:
        $a = "bella_reverse_shell"
        $b = "chmod_bella_binary"
        $c = "import base64, socket, subprocess" nocase
    condition:
        2 of them
}

rule TW_MACOS_JOKER_XOR
{
    meta:
        description = "MACOS.JOKER.XOR"
    strings:
        $x = "JokerAgentConfigBlock" xor(0x01-0xff)
    condition:
        filesize < 2MB and $x
}

rule TW_MACOS_BASE64_CMD
{
    meta:
        description = "MACOS.LOADER.B64"
    strings:
        $c = "launchctl load -w ~/Library/LaunchAgents/com.update." base64
    condition:
        filesize < 1MB and $c
}

rule TW_MACOS_CHROME_EXTENSION
{
    meta:
        description = "MACOS.CHROME.FORCEINSTALL"
    strings:
        $a = "ExtensionInstallForcelist"
        $b = "clients2.google.com/service/update2/crx" nocase
        $c = "profiles -I -F" fullword
    condition:
        all of them
}

rule TW_MACOS_PYTHON_BACKDOOR
{
    meta:
        description = "MACOS.BACKDOOR.PY"
    strings:
        $r = /exec\(__import__\(['"]zlib['"]\)\.decompress\(__import__\(['"]base64['"]\)\.b64decode\(/
        $s = "socket.SOCK_STREAM"
    condition:
        filesize < 500KB and $r and $s
}

rule TW_MACOS_JS_PACKED
{
    meta:
        description = "MACOS.JS.PACKED"
    strings:
        $r = /eval\(function\(p,a,c,k,e,[rd]\)\{/
        $s = "chrome.webRequest.onBeforeRequest" ascii wide
    condition:
        all of them
}

rule TW_MACOS_APPLESCRIPT_RUNONLY
{
    meta:
        description = "MACOS.APPLESCRIPT.RUNONLY"
    strings:
        $m = "FasdUAS"
        $s = "osax_hijack_handler"
    condition:
        $m at 0 and $s
}

rule TW_MACOS_ZSH_PERSIST
{
    meta:
        description = "MACOS.PERSIST.ZSH"
    strings:
        $a = "echo 'nohup ~/.local/.upd" ascii
        $b = ">> ~/.zshenv"
    condition:
        filesize < 64KB and all of them
}

rule TW_MACOS_TCC_BYPASS
{
    meta:
        description = "MACOS.TCC.BYPASS"
    strings:
        $a = "/Library/Application Support/com.apple.TCC/TCC.db" ascii wide
        $b = "INSERT INTO access VALUES('kTCCServiceSystemPolicyAllFiles'" nocase
    condition:
        all of them
}

rule TW_MACOS_FAKE_FLASH_FAT
{
    meta:
        description = "MACOS.FAKEFLASH.FAT"
    strings:
        $h = { 41 64 6F 62 65 20 46 6C 61 73 68 20 50 6C 61 79 65 72 [1-32] 49 6E 73 74 61 6C 6C 65 72 }
        $s = "flashplayer_update_agent"
    condition:
        FatMacho and any of them
}

rule TW_MACOS_ARM64_LOADER
{
    meta:
        description = "MACOS.LOADER.ARM64"
    strings:
        $h = { FD 7B BF A9 FD 03 00 91 ?? ?? ?? 94 ?? ?? ?? B4 [0-16] 1F 20 03 D5 1F 20 03 D5 }
    condition:
        Macho and filesize < 1MB and $h
}

rule TW_MACOS_PKG_PREINSTALL
{
    meta:
        description = "MACOS.PKG.PREINSTALL"
    strings:
        $m = "xar!"
        $s = "preinstall_payload_sh" wide ascii
    condition:
        $m at 0 and filesize < 50MB and $s
}

rule TW_MACOS_SAMPLE_HASH_A
{
    meta:
        description = "MACOS.SAMPLE.A"
    condition:
        filesize == 48213 and
        hash.sha256(0, filesize) == "6d1f3c8a2b4e9f7061a5c3d2e8b7f9a0c4d6e1f2a3b5c7d9e0f1a2b3c4d5e6f7"
}

rule TW_MACOS_SAMPLE_HASH_B
{
    meta:
        description = "MACOS.SAMPLE.B"
    condition:
        Macho and filesize == 131072 and
        hash.sha1(0, filesize) == "3f2a9c0d7e5b1a4c8d6f2e0b9a7c5d3e1f0a2b4c"
}
